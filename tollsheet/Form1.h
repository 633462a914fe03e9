#pragma once

#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;
class QPushButton;

namespace tollsheet {

class Form2;

// The subscriber entry form.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

private:
    void Command1_Click();
    void Command2_Click();

    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5;
    QPushButton *Command1, *Command2;
    std::unique_ptr<Form2> m_form2;
};

} // namespace tollsheet
