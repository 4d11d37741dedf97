#include "gui/CommandIds.h"

namespace velkan {

namespace {

struct CommandText {
    int id;
    const char* text;
};

constexpr CommandText kCommandTexts[] = {
    {IdFileNew, "Create a new project\nNew"},
    {IdFileOpen, "Open an existing project\nOpen"},
    {IdFileSave, "Save the active project\nSave"},
    {IdFileSaveAs, "Save the active project with a new name\nSave As"},
    {IdExportTexts, "Export the wizard texts of the current version to a text file\nExport"},
    {IdImportTexts, "Import the wizard texts of the current version from a text file\nImport"},
    {IdPreferences, "Display the preferences\nPreferences"},
    {IdAppExit, "Quit the application; prompts to save the project\nExit"},
    {IdEditUndo, "Undo the last change of the project\nUndo"},
    {IdEditRedo, "Redo the change last undone\nRedo"},
    {IdViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
    {IdTestWizard, "Run a test of the install wizard\nTest"},
    {IdBuild, "Build the install program\nBuild"},
    {IdHelpContents, "List the Help topics\nHelp"},
    {IdAppAbout, "Display program information and version\nAbout"},
    {IdVersionAdd, "Add a copy of the current version\nAdd"},
    {IdVersionDel, "Remove the current version\nDel"},
};

}  // namespace

QString CommandString(int id)
{
    for (const CommandText& entry : kCommandTexts) {
        if (entry.id == id) return QString::fromLatin1(entry.text);
    }
    return QString();
}

QString CommandPrompt(int id)
{
    return CommandString(id).section('\n', 0, 0);
}

QString CommandShortName(int id)
{
    QString text = CommandString(id);
    int last = static_cast<int>(text.lastIndexOf('\n'));
    return last < 0 ? QString() : text.mid(last + 1);
}

}  // namespace velkan
