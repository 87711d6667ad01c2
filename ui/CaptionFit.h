// Caption fitting: a control's caption font shrunk just enough for the caption
// to fit its box, fitted again whenever the control is resized.
#pragma once

#include <QFont>
#include <QWidget>

namespace ui {

// Sets the caption font of `control` to `font`, shrunk just enough for the
// caption to fit (see CaptionFits); the controls call it whenever their caption,
// size or word wrap changes.
void FitCaptionFont(QWidget* control, const QFont& font);

// True when the caption of `control` (label, button, check box, option button,
// frame title) fits inside the control at its current font.
bool CaptionFits(const QWidget* control);

// Fits the caption of `control` again at the font it was last fitted from, after
// its caption or word wrap changed; nothing for a control never fitted.
void RefitCaption(QWidget* control);

}  // namespace ui
