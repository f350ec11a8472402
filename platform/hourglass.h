#pragma once
// Shows the busy cursor for its lifetime and restores the previous cursor on
// every way out, exceptions included.

class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    bool active_ = false;
};
