// "Font": the background title's font with its effects and colour in one dialog.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

#include "core/model/LogFont.h"

class QFontDialog;
class QPushButton;

namespace velkan {

class CTitleFontDialog : public QDialog {
    Q_OBJECT
public:
    CTitleFontDialog(QWidget* parent, const LogFont& font, uint32_t colorRef);

    // The chosen font: the stored description with what the dialog can choose replaced.
    LogFont Font() const;
    uint32_t Color() const;

    QFontDialog* FontChooser() const { return m_chooser; }
    void SetColor(const QColor& color);

private:
    void ChooseColor();

    LogFont m_font;
    QFont m_shown;  // what the chooser showed at first
    QColor m_color;
    QFontDialog* m_chooser;
    QPushButton* m_colorButton;
};

}  // namespace velkan
