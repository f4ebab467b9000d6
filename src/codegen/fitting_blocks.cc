// Least-squares fitting blocks of the tuning drivers. Not written yet: each
// block writes nothing for now, so a fitting region's driver measures its
// sampled cases and keeps the best of those.
#include "codegen/fitting_blocks.h"

// Will write the real*8 arrays xDim, yEst, x, y, a_lsm and aa_lsm.
void WriteFittingDeclarations(const TTuneRegion&, TCodeWriter&) {}

// Will write nparm, n_lsm, the nsamp counting loop, m_lsm and isamp_indx.
void WriteFittingVariables(const TTuneRegion&, int32_t, TCodeWriter&) {}

// Will write the x and y sample assignments of the current case.
void WriteFittingSample(const TTuneRegion&, TCodeWriter&) {}

// Will write the VexnorLSM_Est_ParamFxDim calls that pick the estimated
// best case when not every case was measured.
void WriteFittingSelection(const TTuneRegion&, int32_t, TCodeWriter&) {}

// Will write the VexnorLSM_lsm_DimEst call and the fitting result file.
void WriteFittingEstimation(const TTuneRegion&, TCodeWriter&) {}
