// The multi-buffer core against the scalar one: the input, cut into up to 40
// messages of any lengths, through 8 or 16 lanes in chunks of any size and at
// any alignment, gives each message its scalar digest.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "digest/Md5.h"
#include "digest/Md5Lanes.h"
#include "fuzz/FuzzSupport.h"

using namespace vorlix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    int width = data[0] & 1 ? 16 : 8;
    if (width == 16 && !detail::HasAvx512()) width = 8;
    if (width == 8 && !detail::HasAvx2()) width = 1;
    const std::size_t chunkBlocks = 1 + data[1] % 9;
    const std::size_t offset = data[2] % 8;
    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);

    // Messages end at each 0xFF byte; a few are stretched so whole blocks occur.
    std::vector<std::string> messages;
    while (!rest.empty() && messages.size() < 40) {
        const std::size_t cut = std::min(rest.find('\xff'), rest.size());
        std::string message(rest.substr(0, cut));
        if (message.size() % 3 == 1) message = std::string(message.size() * 37, 'x') + message;
        messages.push_back(std::move(message));
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }

    std::vector<std::vector<std::uint8_t>> copies;
    for (const std::string& message : messages) {
        std::vector<std::uint8_t> copy(offset + message.size());
        if (!message.empty()) std::memcpy(copy.data() + offset, message.data(), message.size());
        copies.push_back(std::move(copy));
    }

    std::vector<Md5Lane> lanes(static_cast<std::size_t>(std::max(width, 2)));
    std::vector<int> owner(lanes.size(), -1);
    std::vector<std::size_t> handed(lanes.size(), 0);
    std::size_t next = 0, finished = 0;
    while (finished < messages.size()) {
        for (std::size_t i = 0; i < lanes.size(); ++i) {
            while (lanes[i].blocks == 0) {
                if (owner[i] < 0) {
                    if (next == messages.size()) break;
                    owner[i] = static_cast<int>(next++);
                    handed[i] = 0;
                    DigestInit(lanes[i].state);
                }
                const std::string& message = messages[owner[i]];
                const std::uint8_t* start = copies[owner[i]].data() + offset + handed[i];
                const std::size_t whole = (message.size() - handed[i]) / 64;
                if (whole > 0) {
                    lanes[i].data = start;
                    lanes[i].blocks = std::min(whole, chunkBlocks);
                    handed[i] += lanes[i].blocks * 64;
                    break;
                }
                DigestUpdate(lanes[i].state, start, message.size() - handed[i]);
                DigestFinal(lanes[i].state);
                if (DigestHexText(lanes[i].state) != TextDigest(message)) {
                    fuzz::Fail("a lane's digest differs from the scalar core's");
                }
                ++finished;
                owner[i] = -1;
            }
        }
        Md5CompressLanes(lanes, width);
    }
    return 0;
}
