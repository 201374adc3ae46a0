// Recorded paint sessions as a host replays them: any text is parsed, and
// what parses is played on a small page. Neither may crash, hang or leave
// the page inconsistent, whatever numbers the records hold.
#include <sstream>
#include <string>

#include "fuzz/fuzz_page.h"
#include "fuzz/fuzz_targets.h"
#include "tools/painter.h"
#include "tools/paint_script.h"
#include "tools/script_player.h"

namespace plr::fuzz {

int paintScriptOne(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    host::PaintScript script;
    std::string error;
    if (!host::parsePaintScript(in, script, error)) return 0;
    freshPage(24, 20, 2);
    host::Painter painter(24, 20);
    (void)host::playScript(script, painter, nullptr);
    checkInvariants("a paint script");
    finishPage();
    return 0;
}

}  // namespace plr::fuzz
