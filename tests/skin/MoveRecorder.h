#pragma once

// Records the window moves that the skin starts, while it exists.
#include "skin/WindowDrag.h"

#include <QWidget>
#include <vector>

class MoveRecorder {
public:
    MoveRecorder()
    {
        CWindowDrag::SetObserver([this](QWidget* window) { windows.push_back(window); });
    }
    ~MoveRecorder() { CWindowDrag::SetObserver({}); }
    MoveRecorder(const MoveRecorder&) = delete;
    MoveRecorder& operator=(const MoveRecorder&) = delete;

    std::vector<QWidget*> windows;
};
