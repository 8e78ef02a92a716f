#include "alarms/alarm_dialog.hpp"

#include "alarms/alarms_window.hpp"
#include "app/application.hpp"

namespace orvane {

ui::Window& TForm7::servedWindow() { return app().form6(); }

}  // namespace orvane
