// Command ids of the menus, the toolbar and the pop-up menus, and the status-bar prompt and
// short name ("prompt\nshort name") of the main window's commands.
#pragma once

#include <QString>

namespace velkan {

enum CommandId {
    IdFileNew = 57600,
    IdFileOpen = 57601,
    IdFileSave = 57603,
    IdFileSaveAs = 57604,
    IdAppExit = 57665,
    IdEditUndo = 57643,
    IdEditRedo = 57644,
    IdAppAbout = 57664,
    IdHelpContents = 57670,
    IdViewToolbar = 59392,
    IdPreferences = 32793,
    IdExportTexts = 32795,
    IdImportTexts = 32796,
    IdTestWizard = 32797,
    IdBuild = 32798,
    IdVersionAdd = 32801,
    IdVersionDel = 32802,
    IdSelectAll = 32771,
    IdUnselect = 32772,
    IdRefresh = 32782,
    IdClearReport = 32789,
    IdNextPane = 57680,
    IdPrevPane = 57681,
};

// "prompt\nshort name" of a command; empty for an unknown id.
QString CommandString(int id);
// The status-bar prompt and the short name (the toolbar label) of a command.
QString CommandPrompt(int id);
QString CommandShortName(int id);

}  // namespace velkan
