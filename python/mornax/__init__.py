"""mornax: geostatistics on the mornax engine, from numpy, xarray and GeoPandas.

The experimental semivariogram and the bounded fit of its model, direction
sectors, the variogram map and their joint anisotropic fit, kriging of order
0-2 with geometric anisotropy and nested structures, distance weighting (six
schemes), trend surfaces, Bayesian estimation with prior guesses, and the
leave-one-out cross-validation of each;
the same numbers as the batch tool, the same bits for any thread count. Large
grids run as exact tiles on Dask (``mornax.tiles``).

Long calls release the interpreter's lock, stop on Ctrl-C (KeyboardInterrupt,
no partial result) and on a ``cancel`` event set from another thread
(``Cancelled``), and report progress to a callable or a tqdm bar.
"""

from ._errors import (Cancelled, EngineError, EngineWarning, MergedPointsWarning,
                      NonFiniteWarning, SingularSystemWarning)
from .convert import from_gstools, from_pykrige
from .estimation import (ESTIMATED, MERGED, NON_FINITE, NOT_ESTIMATED, SINGULAR, Bayes,
                         CrossValidation, Estimates, Kriging, Trend, Weighting, bayes,
                         cross_validate, krige, trend, weight)
from .models import KRho, Structure, VariogramModel, model_name
from .points import Grid, Points, read_data_file
from .tiles import tiled
from .variogram import (DirectionalSemivariogram, Fit, FitStart, JointFit, Semivariogram,
                        directional_semivariogram, fit, fit_start, joint_fit, semivariogram)

__all__ = [name for name in dir() if not name.startswith("_")]
