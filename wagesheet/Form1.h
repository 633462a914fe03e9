#pragma once

#include "runtime/forms/Forms.h"

#include <memory>

class QLineEdit;
class QPushButton;

namespace wagesheet {

class Form2;

// The employee entry form.
class Form1 : public runtime::StartForm {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

protected:
    // Closing the entry form closes an open report with it.
    void closeEvent(QCloseEvent *event) override;

private:
    void CmdIn_Click();
    void CmdOut_Click();

    QLineEdit *text1, *text2, *text3, *text4;
    QPushButton *CmdIn, *CmdOut;
    std::unique_ptr<Form2> m_form2;
};

} // namespace wagesheet
