#include "gui/CAnchorLayout.h"

#include <QWidget>

namespace velkan {

QString CAnchorLayout::ControlName(int id)
{
    return QString("id%1").arg(id);
}

QWidget* CAnchorLayout::FindControl(QWidget* owner, int id)
{
    if (!owner) return nullptr;
    return owner->findChild<QWidget*>(ControlName(id), Qt::FindDirectChildrenOnly);
}

void CAnchorLayout::Attach(QWidget* owner, const AnchorEntry* table, const QRect& client)
{
    m_owner = owner;
    m_table = table;
    m_placed.clear();
    if (!owner) return;
    for (const AnchorEntry* entry = table; entry && entry->id != 0; ++entry) {
        if (QWidget* control = FindControl(owner, entry->id)) {
            m_placed.push_back({entry->id, entry->flags, control->geometry()});
        }
    }
    m_client = client.isNull() ? owner->rect() : client;
}

QRect CAnchorLayout::Anchored(const QRect& attached, uint32_t flags, int dx, int dy)
{
    int left = attached.left();
    int top = attached.top();
    int right = attached.left() + attached.width();
    int bottom = attached.top() + attached.height();
    if (flags & AnchorMoveRight) {
        left += dx;
        right += dx;
    }
    if (flags & AnchorMoveDown) {
        top += dy;
        bottom += dy;
    }
    if (flags & AnchorStretchWidth) right += dx;
    if (flags & AnchorStretchHeight) bottom += dy;
    return QRect(left, top, qMax(0, right - left), qMax(0, bottom - top));
}

void CAnchorLayout::Resize(int width, int height)
{
    if (width == 0 && height == 0) return;
    if (!m_owner || !m_table || m_client.isEmpty()) return;
    int dx = width - m_client.width();
    int dy = height - m_client.height();
    for (const Placed& placed : m_placed) {
        // A control that went away since attaching is skipped.
        if (QWidget* control = FindControl(m_owner, placed.id)) {
            control->setGeometry(Anchored(placed.rect, placed.flags, dx, dy));
        }
    }
}

}  // namespace velkan
