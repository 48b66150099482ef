#include "platform/ui/EarlyScreen.h"

#include <xcb/xcb.h>

QSize EarlyScreenSize()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    QSize size;
    if (!xcb_connection_has_error(connection)) {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; it.rem > 0 && i < screenNumber; ++i)
            xcb_screen_next(&it);
        if (it.rem > 0)
            size = QSize(it.data->width_in_pixels, it.data->height_in_pixels);
    }
    xcb_disconnect(connection);  // also frees a connection that failed
    return size;
}
