#include "app/shell.h"

int main(int argc, char **argv)
{
    return App_Main(argc, argv);
}
