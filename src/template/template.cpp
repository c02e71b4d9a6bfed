#include "template/template.h"

#include <algorithm>

#include "i18n/runtime_error.h"

namespace vexil {

bool Area::contains(int x, int y) const {
    // Rectangles typed into the property panel may be reversed.
    const int left = std::min(x0, x1), right = std::max(x0, x1);
    const int top = std::min(y0, y1), bottom = std::max(y0, y1);
    return left <= x && x <= right && top <= y && y <= bottom;
}

Template::Template() : areas_(1) {}

void Template::setArea(int n, const Area& area) { areas_.at(size_t(n)) = area; }

void Template::clearTemplate() {
    areas_.assign(1, Area{});
    currentArea = 0;
    templatePath = kUnnamedTemplate;
    settings.formatVersion = 2;
    settings.formatVariant = 1;
    settings.pictureFile.clear();
    realAreaCount = 0;
    settings.propertiesOnNew = 1;
    settings.startProgram.clear();
    settings.templateClipFile.clear();
    settings.startKeys.clear();
    settings.docFile.clear();
    settings.description.clear();
    settings.targetApp.clear();
}

void Template::appendArea(const Area& area) {
    if (areaCount() >= kMaxAreas || addedAreaCount >= kMaxAreas)
        throw RuntimeError(errnum::Overflow);
    ++addedAreaCount;
    areas_.push_back(area);
    modified = true;
}

int Template::areaAt(int x, int y) const {
    for (int n = areaCount(); n >= 1; --n)
        if (areas_[size_t(n)].contains(x, y)) return n;
    return 0;
}

void Template::deleteArea(int n) {
    if (n < 1 || n > areaCount()) return;
    const int parent = areas_[size_t(n)].level;
    areas_.erase(areas_.begin() + n);
    --addedAreaCount;
    modified = true;
    // The later areas move down by one: so do the numbers that name them, and a sub-area
    // of the removed one stays in the tree, in its group.
    const auto renumber = [n, parent](std::int16_t& ref) {
        if (ref == n) ref = std::int16_t(parent > n ? parent - 1 : parent);
        else if (ref > n) --ref;
    };
    for (size_t i = 1; i < areas_.size(); ++i) {
        renumber(areas_[i].level);
        if (areas_[i].mirrorOf == n) areas_[i].mirrorOf = 0;
        else if (areas_[i].mirrorOf > n) --areas_[i].mirrorOf;
    }
    const int group = parent > n ? parent - 1 : parent;
    const bool stillUsed = std::any_of(areas_.begin() + 1, areas_.end(),
                                       [group](const Area& a) { return a.level == group; });
    if (!stillUsed && group >= 1 && group <= areaCount()) areas_[size_t(group)].isGroup = 0;
}

void Template::truncateAreas(int count) {
    if (count >= 0 && count < areaCount()) areas_.resize(size_t(count) + 1);
}

}  // namespace vexil
