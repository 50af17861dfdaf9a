// The one table of the places a run clicks: for each job, its points in the order the run
// and F10 take them, with the fields that hold them in mode two, the built-in client point
// of mode one, the mouse button, and the points derived from another by the client's menu
// offsets. Capture, the mode-two checks, the field rules and the runs all read it here.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "client/desktop.h"
#include "services/controls.h"
#include "services/types.h"

namespace pelloram {

enum class Job : int { Delete, Add };
enum class Mode : int { One, Two };

enum class JobPointId : int {
  StickerPanel,
  CollectedTab,
  FirstSticker,
  DeleteItem,
  FileButton,
  SentSticker,
  AddItem,
};

// How a run finds a point that F10 taught, before it clicks it.
enum class FoundBy : int {
  OwnPicture,  // its own picture, searched for on the client's windows
  FromPoint,   // a fixed distance from the point it hangs on, which keeps its look (its own
               // look changes with every sticker)
  FromCorner,  // a fixed distance from the client window's lower right corner (the newest
               // own message sits at the right of the chat, a fixed height above the input)
  MenuItem,    // an item of the menu that a right click on the point it hangs on opens: by a
               // picture taught on the menu, or at the client's menu offset
};

struct JobPoint {
  JobPointId id;
  Job job;
  Control xField;  // mode two: screen coordinates, typed or captured with F10
  Control yField;
  Point builtIn;  // mode one: client point of the placed client window
  MouseButton button;
  std::string_view warningName;   // how a mode-two check names it; empty: not checked
  std::string_view confirmation;  // F10's note once captured; empty: F10 passes over it
  std::string_view controlName;   // the control, as a message that cannot find it names it
  FoundBy foundBy;                // once taught with F10
  JobPointId hangsOn;             // FromPoint, MenuItem: the point it is found from
};

inline constexpr std::size_t kJobPointCount = 7;

// How a derived point follows its source.
enum class Derivation : int {
  OnCapture,  // written once when F10 captures the source
  OnEdit,     // rewritten on every change of the source's fields
};

struct DerivedPoint {
  JobPointId source;
  JobPointId derived;
  Point offset;  // from the source, the client's menu layout
  Derivation when;
};

const JobPoint& PointOf(JobPointId id);
// A job's points in the order its run clicks them and F10 captures them.
std::span<const JobPoint> PointsOf(Job job);
std::span<const DerivedPoint> DerivedPoints();

// The job's point found as an item of the menu its right click opens.
const JobPoint& MenuItemOf(Job job);

// A mode-two check's warning for an empty field of the point.
std::string EmptyFieldWarning(const JobPoint& point, bool isX);

}  // namespace pelloram
