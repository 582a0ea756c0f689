#pragma once

#include <cstdint>
#include <string>

namespace vyr {

// Every persistent setting of the player, each named by its configuration key
// (BLANK/CLIP_VIEW becomes BLANK_CLIP_VIEW). Initializers are the defaults that
// stand when the configuration file is missing or unreadable.
struct Settings {
    std::uint16_t PORT_BASE_ADDRESS = 0;  // belongs to the selected output device
    std::uint16_t DISPLAY_LASER = 0;
    std::uint16_t DISPLAY_SCREEN = 1;
    std::uint16_t FLICKER_FREE = 0;
    std::uint16_t INVERT_BLANKING = 0;
    std::uint16_t SCRIPT_REPEAT = 1;
    std::int32_t BLANK_CLIP_VIEW = 0;
    std::int32_t GLOBAL_DELAY = 0;    // configured; see currentGlobalDelay
    std::int32_t LASER_SCALE = 50;    // configured, percent
    std::int32_t VERTICAL_SCALE = 100;
    std::int32_t BLANKING_SHIFT = 0;  // points
    std::int32_t FRAME_DISPLAY_TIMER_VALUE = 100;  // milliseconds
    std::uint16_t COLOR_MODE = 0;
    float MASTER_RED_INTENSITY = 1.0f;
    float MASTER_GREEN_INTENSITY = 1.0f;
    float MASTER_BLUE_INTENSITY = 1.0f;
    float TTL_THRESHOLD_RED = 0.5f;
    float TTL_THRESHOLD_GREEN = 0.5f;
    float TTL_THRESHOLD_BLUE = 0.5f;
    std::uint16_t DISPLAY_INVERT = 0;
    std::uint16_t RECORD_FRAMES_TO_WRITE = 350;
    std::uint16_t RECORD_PALETTE_TYPE = 0;
    std::uint16_t RECORD_VIEW_TYPE = 1;
    std::int32_t NUMBER_FADE_IN_FRAMES = 1;
    std::int32_t NUMBER_FADE_OUT_FRAMES = 1;
    std::uint16_t GLOBAL_FRAME_REPEAT = 0;  // 65535 stands for -1
    std::int32_t MOVE_INCREMENT = 1000;
    std::int32_t ROTATE_INCREMENT = 5;
    std::int32_t ZOOM_INCREMENT = 1000;
    std::int32_t DRAG_SPEED = 1;
    std::int32_t DRAG_INERTIA = 50;
    std::int32_t OUTPUT_PPS = 12000;
    float BEAM_ORIGIN_X1 = 0.48f;
    float BEAM_ORIGIN_Y1 = 0.3f;
    float BEAM_ORIGIN_X2 = 0.9f;
    float BEAM_ORIGIN_Y2 = 0.3f;
    float BEAM_HEIGHT_1 = 0.1f;
    float BEAM_HEIGHT_2 = 0.1f;
    std::int32_t BEAM_ON_1 = 1;
    std::int32_t BEAM_ON_2 = 0;
    std::int32_t BEAM_INVERT_X1 = 0;
    std::int32_t BEAM_INVERT_X2 = 1;
    std::int32_t BEAM_YAG_VIEW = 0;
    std::int32_t BEAM_MODE = 0;
    std::string CONTENT_DIRECTORY_NAME = DefaultContentDirectory();  // at most 199 characters
    std::int32_t MAIN_WINDOW_LEFT = 20;
    std::int32_t MAIN_WINDOW_TOP = 20;
    std::int32_t MAIN_WINDOW_RIGHT = 684;
    std::int32_t MAIN_WINDOW_BOTTOM = 508;
    std::int32_t LEFT_PREVIEW_EDGE = 267;
    std::int32_t COM_PORT_INDEX = -1;
    std::int32_t BAUD_RATE_INDEX = 2;
    std::int32_t DATA_BITS_INDEX = 3;
    std::int32_t PARITY_INDEX = 0;
    std::int32_t STOP_BITS_INDEX = 0;
    std::int32_t HAND_SHAKE_INDEX = 2;
    std::uint16_t USE_SERIAL_PORT = 0;

    // Working values that rendering uses and show scripts change; reset from
    // the configured values when a script starts or stops.
    std::int32_t currentGlobalDelay = 0;
    std::int32_t currentLaserScale = 50;
    std::int32_t currentVerticalScale = 100;

    void ResetWorkingValues() {
        currentGlobalDelay = GLOBAL_DELAY;
        currentLaserScale = LASER_SCALE;
        currentVerticalScale = VERTICAL_SCALE;
    }

    static constexpr std::size_t kContentDirectoryMax = 199;

    // The user's Laser folder with its trailing separator.
    static std::string DefaultContentDirectory();
};

}  // namespace vyr
