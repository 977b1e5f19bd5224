#include "bvctl.h"

int main(int argc, char** argv)
{
    return bv::cli::run(argc, argv);
}
