// The input of the linearity check: the process-wide mixture list and the
// assay list built over it. They live from module load to unload; the
// chromatogram and mixture pages fill them, the main window calculates over
// them.
#pragma once

#include "data/assay_list.h"
#include "data/mixture_list.h"

MixtureList& TheMixtureList();
AssayList& TheAssayList();
