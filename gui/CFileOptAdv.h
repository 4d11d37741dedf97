// "Advanced": destination, usage count, install mode, special registration and "Keep external"
// of any number of selected files. Each group of boxes acts like radio buttons that can all be
// unchecked; a mixed value shows its whole group unchecked.
#pragma once

#include "gui/COptPage.h"

class QCheckBox;

namespace velkan {

class CFileOptAdv : public COptPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 164;

    explicit CFileOptAdv(CFilesPage* filesPage);

    void Refresh() override;

    // The boxes by control id: 1074 Windows, 1075 System, 1076 Fonts, 1122 usage count,
    // 1124 do not install, 1123 do not uninstall, 1127 create directory, 1125 screen saver,
    // 1126 OCX, 1128 keep external.
    QCheckBox* Box(int id) const;
    // A click on box id whose new state is checked.
    void OnClick(int id, bool checked);

private:
    struct GroupBox {
        int id;
        int value;  // the option's value when this box is checked
    };
    // The option value from a group after a click: the clicked box's value when it is checked,
    // else the value of a still checked box, else empty.
    int GroupValue(const std::vector<GroupBox>& group, int clicked, bool checked, int empty);

    std::vector<std::pair<int, QCheckBox*>> m_boxes;
};

}  // namespace velkan
