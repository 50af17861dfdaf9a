#include "practice_client/command_line.h"

#include <charconv>
#include <string_view>

namespace practice {

const char kUsage[] =
    "practice_client [--stickers N] [--collected \"a.gif|b.gif\"] [--journal PATH] [--pos X Y]\n"
    "                [--close-after EVENT:N] [--generation classic|newer|newer-en]\n"
    "                [--react-ms MS] [--jitter-ms MS] [--seed N]\n"
    "  --stickers N   initial collection of N stickers named sticker01.gif, ... (default 10)\n"
    "  --collected    initial collection with these names, separated by |\n"
    "  --journal PATH write one JSON object per line for everything that happens\n"
    "  --pos X Y      top-left corner of the window on the screen (default 200 120)\n"
    "  --close-after EVENT:N\n"
    "                 end at once, as if killed, right after the N-th journal line of that\n"
    "                 event (deleted:2, added:1, sent:3, ...)\n"
    "  --generation   the main window of the classic client (WeChatMainWndForPC, the default)\n"
    "                 or of the newer one (Qt51514QWindowIcon titled 微信, or Weixin with\n"
    "                 newer-en), with a hidden window of the same class beside it\n"
    "  --react-ms MS  show the dialog, menus and forward window MS after what brought them\n"
    "                 (a slow client), plus up to --jitter-ms more drawn from --seed\n";

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
