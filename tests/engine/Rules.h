// What must hold after any action on the dialog, whatever the reader
// answered: the form's rules (one family, tabs that match the choices, the
// selected tab's panel on view), the link's, and what the action itself must
// have done, judged from the reports the tap logged. Expected texts come
// from the tables here, not from the product's.
#pragma once

#include <QStringList>

#include "Rig.h"

namespace tavrin::engine {

// The state an action is judged against.
struct Before {
  Settings settings;
  QString description;
  bool open = false;
  bool plugged = false;
  int openError = 0;  // every open of the reader fails with it
  std::size_t logSize = 0;
  int resetMessages = 0;
  int fileMessages = 0;
};

Before Capture(const Rig& rig);

// Every broken rule, in words; empty when all hold. ran: the action reached
// an enabled control on view. Updates what the rig carries to later actions.
QStringList Judge(Rig& rig, const Action& action, bool ran, const Before& before);

}  // namespace tavrin::engine
