#include "gui/CMacroMenu.h"

#include <QAction>
#include <QMenu>
#include <vector>

namespace velkan {

namespace {

struct MacroEntry
{
    int id;
    const char* token;
    const char* caption;
};

constexpr MacroEntry kMacros[] = {
    {5000, "#Windows#", "&Windows directory"},
    {5001, "#System#", "&System directory"},
    {5002, "#Program Files#", "&Programs Files directory"},
    {5003, "#InstallDir#", "&Install directory"},
    {5004, "#SourceDir#", "Sou&rce directory"},
    {5005, "#UserName#", "User &name"},
    {5006, "#UserCompany#", "User &company"},
    {5008, "#Date#", "Current &date"},
    {5009, "#Start Menu#", "&Root of Start menu"},
    {5010, "#Startup#", "&Startup menu"},
};

// The items of each menu; 0 is a separator.
std::vector<int> MenuItems(int position)
{
    switch (position) {
    case CMacroMenu::Macro1: return {5000, 5001, 5002};
    case CMacroMenu::Macro2: return {5000, 5001, 5002, 0, 5003, 5004, 5005, 5006, 5008};
    case CMacroMenu::Macro3: return {5009, 5010};
    default: return {};
    }
}

const MacroEntry* Find(int id)
{
    for (const MacroEntry& entry : kMacros) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

}  // namespace

QString CMacroMenu::TokenFor(int commandId)
{
    const MacroEntry* entry = Find(commandId);
    return entry ? QString::fromLatin1(entry->token) : QString();
}

bool CMacroMenu::Offers(int position, int commandId)
{
    for (int id : MenuItems(position)) {
        if (id != 0 && id == commandId) return true;
    }
    return false;
}

QMenu* CMacroMenu::CreateMenu(int position, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (int id : MenuItems(position)) {
        if (id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QObject::tr(Find(id)->caption));
        action->setData(id);
    }
    return menu;
}

int CMacroMenu::Track(int position, QWidget* parent, const QPoint& globalPos)
{
    QMenu* menu = CreateMenu(position, parent);
    QAction* chosen = menu->exec(globalPos);
    int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    return id;
}

}  // namespace velkan
