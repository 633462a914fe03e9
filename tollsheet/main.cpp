#include "runtime/Program.h"
#include "tollsheet/Form1.h"

int main(int argc, char **argv)
{
    return runtime::run<tollsheet::Form1>(argc, argv, "tollsheet");
}
