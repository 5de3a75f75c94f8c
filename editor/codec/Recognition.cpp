#include "Recognition.h"

#include "Survival.h"

#include <algorithm>

bool LooksEnciphered(std::u16string_view stored)
{
    return stored.size() <= MaxTextUnits &&
           std::all_of(stored.begin(), stored.end(), [](char16_t unit) { return unit < 0x100; });
}
