#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

// A top-level window of the workstation. Created once, then shown and hidden
// until the program ends, so it keeps its controls' contents between uses.
// No title-bar buttons: a window is left through its own buttons. A window
// manager that offers a close action all the same gets the window's own way
// out (closeRequested).
class Form : public QWidget {
    Q_OBJECT
public:
    enum class Placement { ScreenCenter, Designed };

    struct Definition {
        Definition(QString caption, QSize outerSize, bool stayOnTop = true,
                   Placement placement = Placement::ScreenCenter, QPoint designedPosition = {})
            : caption(std::move(caption)), outerSize(outerSize), stayOnTop(stayOnTop), placement(placement),
              designedPosition(designedPosition)
        {
        }
        QString caption;
        QSize outerSize;          // pixels, frame included
        bool stayOnTop;
        Placement placement;
        QPoint designedPosition;  // pixels, for Placement::Designed
    };

    explicit Form(const Definition &definition);

    // Showing a hidden window runs FormShow (a failure there is reported and the
    // window is shown all the same), then shows, raises and activates it.
    // Showing a visible window only raises and activates it.
    void Show();
    // Runs FormClose, then hides the window.
    void Close();

    // The client size that gives `outer` with the classic window frame.
    static QSize clientSizeFor(QSize outer);

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}
    // The window manager's close action (a title-bar button, Alt+F4): the
    // window leaves as its own exit button leaves it. By default that is
    // Close(), which is what the exit buttons of most windows do.
    virtual void closeRequested() { Close(); }

    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Definition definition_;
    bool shownBefore_ = false;
    bool closingByProgram_ = false;
};
