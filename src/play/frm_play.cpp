#include "play/frm_play.h"

namespace play {

FrmPlay::FrmPlay(QWidget* parent) : QWidget(parent) {
  setObjectName("frmPlay");
  setWindowTitle("Marrowdale");
  resize(1024, 700);
}

}  // namespace play
