#include "Layout.h"

namespace tester {

TesterLayout DesignLayout()
{
    TesterLayout layout;
    layout.command = {120, 120, 8295, 315};
    layout.send = {8520, 120, 1575, 375};
    layout.log = {0, 600, 10095, 5655};
    layout.progress = {120, 6480, 8295, 375};
    layout.cancel = {8520, 6480, 1575, 375};
    return layout;
}

void FormResize(TesterLayout &layout, float width, float height)
{
    // Each step reads what the steps before it set.
    if (width > 200.0f)
        layout.log.width = width - 200.0f;
    if (height > 1500.0f)
        layout.log.height = height - 1500.0f;
    layout.progress.top = layout.log.top + layout.log.height + 50.0f;
    layout.cancel.top = layout.progress.top;
    const float sendRoom = layout.send.width + 50.0f;
    const float listRoom = width - 200.0f;
    if (sendRoom < listRoom)
        layout.command.width = listRoom - sendRoom;
    layout.send.left = layout.command.left + layout.command.width + 50.0f;
    layout.progress.width = layout.command.width;
    layout.cancel.left = layout.send.left;
}

} // namespace tester
