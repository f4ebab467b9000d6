// Lifetime of directive records and their shared parameter records.
#include "directives/script.h"

TScript::~TScript() {
  if (Params) {
    for (TScValData* param : *Params) {
      if (--param->RefCount <= 0) {
        delete param;
      }
    }
  }
}
