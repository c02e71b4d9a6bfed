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
    const bool stillUsed = std::any_of(areas_.begin(), areas_.end(),
                                       [parent](const Area& a) { return a.level == parent; });
    if (!stillUsed && parent >= 1 && parent <= areaCount()) areas_[size_t(parent)].isGroup = 0;
}

void Template::truncateAreas(int count) {
    if (count >= 0 && count < areaCount()) areas_.resize(size_t(count) + 1);
}

}  // namespace vexil
