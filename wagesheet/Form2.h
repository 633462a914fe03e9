#pragma once

#include "runtime/forms/Forms.h"

namespace runtime {
class MultiLineBox;
}

namespace wagesheet {

// The payroll report. Loading it writes both boxes; the table is only read.
class Form2 : public runtime::LoadableForm {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

protected:
    void Form_Load() override;

private:
    runtime::MultiLineBox *Text1, *Text2;
};

} // namespace wagesheet
