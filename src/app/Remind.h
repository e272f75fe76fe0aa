#pragma once

// harovan --remind: started at login by the autostart entry. Opens no window.
// When cards not yet exchanged are due (Reminder::Check), sends one desktop
// notification through org.freedesktop.Notifications on the session bus,
// with the action "一覧を表示" (harovan --show-list) where the server offers
// actions, and remembers the day. Nothing due, no session bus, no server, no
// book or a book that cannot be read: ends at once, silent. Always status 0.
namespace Remind {

int run(int argc, char *argv[]);

} // namespace Remind
