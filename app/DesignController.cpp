#include "app/DesignController.h"

DesignController::DesignController(DesignControls& controls)
    : m_controls(controls)
{
}
