#include "gui/CMacroMenu.h"

#include <QAction>
#include <QMenu>

#include "core/syntax/PathMacros.h"

namespace velkan {

namespace {

// The menu of a sub-menu position (7, 8, 9), from the one list of macro menus.
const MacroMenuInfo* MenuAt(int position)
{
    for (const MacroMenuInfo& menu : GetMacroMenus()) {
        if (menu.position == position) return &menu;
    }
    return nullptr;
}

}  // namespace

QString CMacroMenu::TokenFor(int commandId)
{
    const PathMacro* macro = FindPathMacro(commandId);
    return macro ? QString::fromLatin1(macro->token.data(),
                                       static_cast<qsizetype>(macro->token.size()))
                 : QString();
}

bool CMacroMenu::Offers(int position, int commandId)
{
    const MacroMenuInfo* menu = MenuAt(position);
    const PathMacro* macro = FindPathMacro(commandId);
    return menu && macro && (macro->menus & menu->menu) != 0;
}

QMenu* CMacroMenu::CreateMenu(int position, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const MacroMenuInfo* info = MenuAt(position);
    if (!info) return menu;
    for (int id : info->items) {
        if (id == kMacroSeparator) {
            menu->addSeparator();
            continue;
        }
        const PathMacro* macro = FindPathMacro(id);
        if (!macro) continue;
        QAction* action = menu->addAction(QObject::tr(std::string(macro->caption).c_str()));
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
