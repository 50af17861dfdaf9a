#include "practice_client/command_line.h"

#include <charconv>
#include <map>
#include <string_view>

namespace practice {

const char kUsage[] =
    "practice_client [--stickers N] [--collected \"a.gif|b.gif\"] [--journal PATH] [--pos X Y]\n"
    "                [--size W H] [--close-after EVENT:N] [--move-after EVENT:N X Y]\n"
    "                [--resize-after EVENT:N W H] [--look CONTROL:VARIANT]\n"
    "                [--generation classic|newer|newer-en] [--react-ms MS] [--jitter-ms MS]\n"
    "                [--seed N]\n"
    "  --stickers N   initial collection of N stickers named sticker01.gif, ... (default 10)\n"
    "  --collected    initial collection with these names, separated by |\n"
    "  --journal PATH write one JSON object per line for everything that happens\n"
    "  --pos X Y      top-left corner of the window on the screen (default 200 120)\n"
    "  --size W H     width and height of the window (default 910 647, at least 640 520);\n"
    "                 it lays itself out for that size as the chat client does\n"
    "  --close-after EVENT:N\n"
    "                 end at once, as if killed, right after the N-th journal line of that\n"
    "                 event (deleted:2, added:1, sent:3, ...)\n"
    "  --move-after EVENT:N X Y\n"
    "                 move the window's top-left corner to X Y right after the N-th journal\n"
    "                 line of that event (journaled as \"moved\")\n"
    "  --resize-after EVENT:N W H\n"
    "                 resize the window to W x H the same way (journaled as \"resized\")\n"
    "  --look CONTROL:VARIANT\n"
    "                 draw sticker_button, collected_tab or file_button with another picture:\n"
    "                 VARIANT other (a strange one) or own (the default); may be repeated\n"
    "  --generation   the main window of the classic client (WeChatMainWndForPC, the default)\n"
    "                 or of the newer one (Qt51514QWindowIcon titled 微信, or Weixin with\n"
    "                 newer-en), with a hidden window of the same class beside it; the newer\n"
    "                 one's menus (Qt51514QWindowToolSaveBits, Weixin) and sticker panel are\n"
    "                 popups of their own, its forward window is titled 微信发送给\n"
    "  --react-ms MS  show the dialog, menus and forward window MS after what brought them\n"
    "                 (a slow client), plus up to --jitter-ms more drawn from --seed\n"
    "Display scale: the window lays itself out at its monitor's scale, a 96-dpi layout times\n"
    "the scale (150 %: 910 x 647 shows as 1365 x 971). Places on the screen (--pos, --move-after)\n"
    "are physical pixels, as other programs see the window; sizes (--size, --resize-after) and\n"
    "the journal's click points and sizes are the layout's 96-dpi units.\n";

namespace {

constexpr int kMaxEventCount = 1000000;

// The whole text must be a decimal integer within [low, high].
bool ParseInt(std::string_view text, int low, int high, int& value) {
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, parsed);
  if (error != std::errc{} || stop != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

std::vector<std::string> SplitNames(std::string_view list) {
  std::vector<std::string> names;
  while (!list.empty()) {
    const std::size_t bar = list.find('|');
    const std::string_view name = list.substr(0, bar);
    if (!name.empty()) names.emplace_back(name);
    if (bar == std::string_view::npos) break;
    list.remove_prefix(bar + 1);
  }
  return names;
}

// "EVENT:N": a journal event and how many of it, from 1.
bool ParseCloseAfter(std::string_view text, CloseAfter& out) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  if (!ParseInt(text.substr(colon + 1), 1, kMaxEventCount, out.times)) return false;
  out.event = std::string(text.substr(0, colon));
  return true;
}

// "EVENT:N" followed by two whole numbers.
bool ParseWindowChange(const std::vector<std::string>& args, std::size_t at, int low, int high,
                       WindowChange& out) {
  return ParseCloseAfter(args[at], out.after) && ParseInt(args[at + 1], low, high, out.x) &&
         ParseInt(args[at + 2], low, high, out.y);
}

// "CONTROL:VARIANT" for one of the controls that have a picture.
bool ParseLook(std::string_view text, std::map<std::string, std::string>& looks) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view control = text.substr(0, colon);
  const std::string_view variant = text.substr(colon + 1);
  if (control != "sticker_button" && control != "collected_tab" && control != "file_button") {
    return false;
  }
  if (variant == "own") {
    looks.erase(std::string(control));
  } else if (variant == "other") {
    looks[std::string(control)] = std::string(variant);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, LaunchOptions& out,
                      std::string& error) {
  constexpr int kCoordinateLimit = 32767;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    const auto needs = [&](std::size_t count) {
      if (i + count < args.size()) return true;
      error = option + " needs " + std::to_string(count) + " value(s)";
      return false;
    };
    if (option == "--help" || option == "-h" || option == "/?") {
      out.help = true;
    } else if (option == "--stickers") {
      if (!needs(1)) return false;
      if (!ParseInt(args[++i], 0, kMaxInitialStickers, out.model.stickerCount)) {
        error = "--stickers wants a whole number from 0 to " + std::to_string(kMaxInitialStickers);
        return false;
      }
    } else if (option == "--collected") {
      if (!needs(1)) return false;
      out.model.collected = SplitNames(args[++i]);
      // An explicitly empty list means an empty collection, not the default one.
      if (out.model.collected.empty()) out.model.stickerCount = 0;
    } else if (option == "--journal") {
      if (!needs(1)) return false;
      out.journalPath = args[++i];
      if (out.journalPath.empty()) {
        error = "--journal wants a file path";
        return false;
      }
    } else if (option == "--pos") {
      if (!needs(2)) return false;
      if (!ParseInt(args[i + 1], -kCoordinateLimit, kCoordinateLimit, out.left) ||
          !ParseInt(args[i + 2], -kCoordinateLimit, kCoordinateLimit, out.top)) {
        error = "--pos wants two whole numbers X Y";
        return false;
      }
      i += 2;
    } else if (option == "--size") {
      if (!needs(2)) return false;
      if (!ParseInt(args[i + 1], kMinWidth, kMaxSide, out.model.width) ||
          !ParseInt(args[i + 2], kMinHeight, kMaxSide, out.model.height)) {
        error = "--size wants a width from 640 and a height from 520, up to 8192";
        return false;
      }
      i += 2;
    } else if (option == "--move-after") {
      if (!needs(3)) return false;
      if (!ParseWindowChange(args, i + 1, -kCoordinateLimit, kCoordinateLimit,
                             out.model.moveAfter)) {
        error = "--move-after wants EVENT:N X Y, e.g. deleted:2 0 0";
        return false;
      }
      i += 3;
    } else if (option == "--resize-after") {
      if (!needs(3)) return false;
      WindowChange change;
      if (!ParseWindowChange(args, i + 1, 0, kMaxSide, change) || change.x < kMinWidth ||
          change.y < kMinHeight) {
        error =
            "--resize-after wants EVENT:N W H, W from 640 and H from 520, e.g. deleted:2 1000 700";
        return false;
      }
      out.model.resizeAfter = change;
      i += 3;
    } else if (option == "--look") {
      if (!needs(1)) return false;
      if (!ParseLook(args[++i], out.model.looks)) {
        error =
            "--look wants sticker_button, collected_tab or file_button, a colon and own or other";
        return false;
      }
    } else if (option == "--react-ms" || option == "--jitter-ms" || option == "--seed") {
      int value = 0;
      if (!needs(1) || !ParseInt(args[++i], 0, 600000, value)) {
        error = option + " wants a whole number of 0 or more";
        return false;
      }
      if (option == "--react-ms") out.model.reactMs = value;
      if (option == "--jitter-ms") out.model.jitterMs = value;
      if (option == "--seed") out.model.seed = static_cast<std::uint64_t>(value);
    } else if (option == "--generation") {
      if (!needs(1)) return false;
      const std::string_view which = args[++i];
      if (which == "classic") {
        out.generation = Generation::Classic;
      } else if (which == "newer") {
        out.generation = Generation::NewerChinese;
      } else if (which == "newer-en") {
        out.generation = Generation::NewerEnglish;
      } else {
        error = "--generation wants classic, newer or newer-en";
        return false;
      }
    } else if (option == "--close-after") {
      if (!needs(1)) return false;
      if (!ParseCloseAfter(args[++i], out.model.closeAfter)) {
        error = "--close-after wants EVENT:N, e.g. deleted:2";
        return false;
      }
    } else {
      error = "unknown argument: " + option;
      return false;
    }
  }
  return true;
}

}  // namespace practice
