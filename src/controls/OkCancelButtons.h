#pragma once

class QDialog;
class QDialogButtonBox;

namespace orinsub::controls {

/// The console's "OK" and "キャンセル" buttons for a dialog, in Japanese even where Qt's own
/// translations are missing. Cancel rejects the dialog; what OK does is the caller's (connect
/// accepted()), so that a dialog may check its input before it closes.
QDialogButtonBox *OkCancelButtons(QDialog *dialog);

} // namespace orinsub::controls
