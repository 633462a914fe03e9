#pragma once

#include "runtime/forms/Forms.h"

class QLineEdit;
class QPushButton;

namespace tollsheet {

class Form2;

// The subscriber entry form.
class Form1 : public runtime::StartForm {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

private:
    void Command1_Click();
    void Command2_Click();

    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5;
    QPushButton *Command1, *Command2;
    Form2 *m_form2 = nullptr; // a child window, created on the first "출력"
};

} // namespace tollsheet
