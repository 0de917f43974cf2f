// Where the main window draws its icon while minimised: centred in the
// client area, rounding as the original arithmetic does (signed, the +1
// before halving, division truncating toward zero).
#pragma once

namespace quenbol {

struct IconOrigin {
    int x;
    int y;
};

constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace quenbol
