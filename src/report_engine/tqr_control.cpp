#include "report_engine/tqr_control.h"

#include <algorithm>

TQRControl::~TQRControl()
{
    DestroyControls();
    if (parent_) {
        auto &siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TQRControl::SetParent(TQRControl *parent)
{
    if (parent == parent_)
        return;
    if (parent_) {
        auto &siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_)
        parent_->controls_.push_back(this);
}

void TQRControl::SetBounds(int left, int top, int width, int height)
{
    StoreBounds(left, top, width, height);
}

void TQRControl::StoreBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TQRControl::DestroyControls()
{
    while (!controls_.empty())
        delete controls_.back();
}
