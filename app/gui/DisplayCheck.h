#pragma once
// The toolkit treats a missing X display as fatal deep inside its start (a message box it
// cannot show, then a trap). Checked first, a booth host gets a message and an exit code.
//
// An X server resets when its last client leaves, and a connection that arrives during
// the reset is hung up on. Where zendrik2 is the display's only client, closing the check's
// connection just before the toolkit opens its own would make the toolkit's start fail:
// the check therefore keeps its connection until the toolkit holds one.

#include <memory>

struct _XDisplay;

class DisplayConnection {
public:
    // Opens the display the toolkit will use; writes why to stderr when there is none.
    // True also where the toolkit will not use X (Wayland), with nothing held.
    bool Open();
    // Once the toolkit holds its own connection: the check's may go without a reset.
    void Release() { display_.reset(); }

private:
    struct Closer {
        void operator()(_XDisplay* display) const;
    };
    std::unique_ptr<_XDisplay, Closer> display_;
};

// From here on, losing the X connection ends the program with a message and exit code 1.
void ExitOnLostDisplay();
