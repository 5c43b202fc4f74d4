#include "ColorTable.h"

namespace printengine {
namespace {

std::vector<COLORREF> colorTable;

} // namespace

std::vector<COLORREF>& ColorTable()
{
    return colorTable;
}

void FreeColorTable()
{
    std::vector<COLORREF>().swap(colorTable);
}

} // namespace printengine
