#include "engine/CsiParams.h"

#include <algorithm>
#include <limits>

void CsiParams::clear() {
    count_ = 0;
    subTotal_ = 0;
    cur_ = 0;
    hasDigits_ = false;
    overflow_ = false;
    groupCount_ = 0;
}

void CsiParams::digit(int d) {
    hasDigits_ = true;
    if (overflow_) return;
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    if (cur_ > (max - d) / 10) {
        overflow_ = true;
        return;
    }
    cur_ = cur_ * 10 + d;
}

std::int64_t CsiParams::takeCurrent() {
    std::int64_t v = overflow_ ? 0 : std::min(cur_, kMaxValue);
    cur_ = 0;
    hasDigits_ = false;
    overflow_ = false;
    return v;
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

void CsiParams::endParam() {
    if (groupCount_ == 0) {
        push(takeCurrent());
        return;
    }
    std::int64_t v = takeCurrent();
    std::uint8_t start = groupStart_;
    if (subTotal_ < kMaxSubValues) subValues_[subTotal_++] = v;
    std::uint8_t n = std::uint8_t(subTotal_ - start);
    groupCount_ = 0;
    if (count_ >= kMaxParams) return;
    values_[count_] = n > 0 ? subValues_[start] : v;
    subStart_[count_] = start;
    subCount_[count_] = n;
    ++count_;
}

void CsiParams::push(std::int64_t value) {
    if (count_ >= kMaxParams) return;
    values_[count_] = value;
    subStart_[count_] = subTotal_;
    subCount_[count_] = 0;
    ++count_;
}
