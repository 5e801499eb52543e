#pragma once

namespace preview {

// What the media graph announces to the controls bound to it, each before the player acts.
enum class ControlNotification {
    Play,
    Pause,
    Stop,
    FileRendering,
    FileRendered,
    Activated,
    Deactivated,
};

} // namespace preview
