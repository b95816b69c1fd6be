#pragma once

#include <utility>
#include <vector>

// Our stand-in for a toolkit control: pixel bounds and a place among its
// parent's controls. The report, its bands and its elements derive from it;
// none of them is ever shown, so there is no widget behind it.
class TQRControl {
public:
    // Builds a report object in two phases: the constructor runs first, then
    // the object takes its size and its place on `parent`, so that every
    // override of SetBounds and SetParent runs. The parent owns the result.
    template <class T, class... Args>
    static T *Create(TQRControl *parent, Args &&...args)
    {
        T *control = new T(std::forward<Args>(args)...);
        static_cast<TQRControl *>(control)->Place(parent);
        return control;
    }

    TQRControl() = default;
    virtual ~TQRControl();
    TQRControl(const TQRControl &) = delete;
    TQRControl &operator=(const TQRControl &) = delete;

    TQRControl *Parent() const { return parent_; }
    // Moves the control to `parent` (none detaches it); the parent owns it.
    virtual void SetParent(TQRControl *parent);
    // Controls placed on this one, in placement order.
    const std::vector<TQRControl *> &Controls() const { return controls_; }

    // Bounds in pixels.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);

protected:
    // The second phase of creation: a descendant sets its initial bounds here.
    virtual void Place(TQRControl *parent) { SetParent(parent); }
    // Sets the bounds without the reactions a descendant attaches to SetBounds.
    void StoreBounds(int left, int top, int width, int height);
    // Destroys the controls placed on this one, last placed first.
    void DestroyControls();

private:
    TQRControl *parent_ = nullptr;
    std::vector<TQRControl *> controls_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};
