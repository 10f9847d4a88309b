// Quorvane: a browser held at an exact pixel size whose trimmed capture is
// printed as a poster, saved as an image or copied to the clipboard.
#include "shell/App.h"

int main(int argc, char* argv[])
{
    return Run(argc, argv);
}
