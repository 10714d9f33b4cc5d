#pragma once

namespace orinsub::controls {

/// Whether Shift is held right now (it skips confirmations). The program asks the keyboard;
/// tests hold Shift without one.
class KeyState
{
public:
    virtual ~KeyState() = default;
    virtual bool IsShiftDown() const = 0;
};

/// The key state in force: the real keyboard unless a test installed another.
const KeyState &Keys();
/// Installs a key state (not owned); null restores the keyboard.
void SetKeys(const KeyState *keys);

} // namespace orinsub::controls
