#include "runtime/Program.h"
#include "wagesheet/Form1.h"

int main(int argc, char **argv)
{
    return runtime::run<wagesheet::Form1>(argc, argv, "wagesheet");
}
