#include "engine/CsiParams.h"

#include <algorithm>
#include <limits>

void CsiParams::digitNearLimit(int d) {
    if (overflow_) return;
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    if (cur_ > (max - d) / 10) {
        overflow_ = true;
        return;
    }
    cur_ = cur_ * 10 + d;
}

void CsiParams::colon() {
    std::int64_t v = takeCurrent();
    if (groupCount_ == 0) groupStart_ = subTotal_;
    if (subTotal_ < kMaxSubValues) {
        subValues_[subTotal_++] = v;
        ++groupCount_;
    } else if (groupCount_ == 0) {
        groupCount_ = 1; // remember that a group was started even when no room was left
    }
}

void CsiParams::endGroup() {
    std::int64_t v = takeCurrent();
    std::uint8_t start = groupStart_;
    if (subTotal_ < kMaxSubValues) subValues_[subTotal_++] = v;
    std::uint8_t n = std::uint8_t(subTotal_ - start);
    groupCount_ = 0;
    if (count_ >= kMaxParams) return;
    hasGroups_ = true;
    values_[count_] = n > 0 ? subValues_[start] : v;
    subStart_[count_] = start;
    subCount_[count_] = n;
    ++count_;
}
