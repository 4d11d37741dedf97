// Anchored layout: a page declares, per control, whether it moves with the right or bottom edge
// or stretches with them; on every resize each control is placed from the rectangle it had when
// the layout was attached, so repeated resizes never accumulate rounding.
#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

class QWidget;

namespace velkan {

struct AnchorEntry {
    int id;          // control id; 0 ends the table
    uint32_t flags;  // the Anchor... bits below
};

class CAnchorLayout {
public:
    static constexpr uint32_t AnchorMoveRight = 0x01;
    static constexpr uint32_t AnchorMoveDown = 0x02;
    static constexpr uint32_t AnchorStretchWidth = 0x10;
    static constexpr uint32_t AnchorStretchHeight = 0x20;

    // The object name that identifies control id among the owner's children.
    static QString ControlName(int id);
    // The child of owner registered under id, or null.
    static QWidget* FindControl(QWidget* owner, int id);

    // Records, for every entry whose control exists, its rectangle in the owner's client
    // coordinates, then the owner's client rectangle (or client, when given: the size the
    // controls were placed for). table may be null.
    void Attach(QWidget* owner, const AnchorEntry* table, const QRect& client = QRect());
    // Moves and stretches the controls for the new client size; nothing when both sizes are 0,
    // when nothing is attached or the attach-time client rectangle is empty.
    void Resize(int width, int height);

    // The rectangle an entry's control gets for a size change (dx, dy) from its attach-time
    // rectangle.
    static QRect Anchored(const QRect& attached, uint32_t flags, int dx, int dy);

private:
    struct Placed {
        int id;
        uint32_t flags;
        QRect rect;
    };
    QWidget* m_owner = nullptr;
    const AnchorEntry* m_table = nullptr;
    std::vector<Placed> m_placed;
    QRect m_client;
};

}  // namespace velkan
