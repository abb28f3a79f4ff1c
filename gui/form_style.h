// Window settings shared by the forms.
#pragma once

class QFont;
class QWidget;

// Gives `form` its fixed size, and a title bar with a close button and,
// when `minimisable`, a minimise button, but never a maximise button.
void set_form_frame(QWidget& form, int width, int height, bool minimisable);

// Places `form` at the centre of the screen it is on.
void centre_on_screen(QWidget& form);

// The large bold type of the form headings.
QFont heading_font(const QWidget& form);
