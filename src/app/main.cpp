// The Vexo Bingo client.
#include "app/client.h"

int main(int argc, char** argv)
{
    return RunClient(argc, argv);
}
