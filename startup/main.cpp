// zorbel -- how long a Notes client or server has been running.
#include "startup/startup.h"

int main(int argc, char** argv)
{
    return ConsoleEntry(argc, argv);
}
