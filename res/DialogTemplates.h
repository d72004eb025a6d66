#pragma once

#include "framework/DialogTemplate.h"

#include <vector>

// The program's dialog templates, looked up by template id.
namespace DialogTemplates {
// The template with this id, or null.
const DialogTemplate* Find(int id);
// Every template, in id order.
const std::vector<DialogTemplate>& All();
} // namespace DialogTemplates
