#pragma once
// Group areas and what lies inside them: the descendants of a group area, carrying them
// along when the group's rectangle changes, the root's docking code.
#include <QChar>
#include <vector>

namespace vexil {

class Template;
struct Area;

// Every descendant of group area n, breadth-first: its sub-areas from n - 1 on in table
// order, then theirs, and so on. Each area is listed once, so a table whose levels loop
// still ends.
std::vector<int> collectDescendants(const Template& t, int n);

// `scaleSubAreas`: carries the descendants of area n along after n's rectangle changed from
// `before` to its present one (an axis at 100 % is left alone), then writes a group
// selection's member copies back over the areas they stand for.
void scaleSubAreas(Template& t, int n, double percentX, double percentY, const Area& before);

// `rootDocking`: "D", "E", "A", "B" by the board edges the root touches, or blank; blank
// also when the current area is not the root.
QChar rootDocking(const Template& t);

// The nearest 16-bit integer, halves to even.
short nearestInt16(double value);

}  // namespace vexil
