#include "settings/options_dialog.hpp"

#include "app/application.hpp"
#include "app/main_window.hpp"

namespace orvane {

ui::Window& TForm3::servedWindow() { return app().form1(); }

}  // namespace orvane
