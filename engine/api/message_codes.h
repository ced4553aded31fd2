// What each message of the engine is about. Every message the engine shows
// carries one of these codes beside its text, so that a caller of the
// in-memory interface (mornax_arrays.h) can act on a message without reading
// its words. The numbers are stable: new codes are added, none is reused.
#pragma once

#include <cstdint>

namespace mornax::api {

enum class MessageCode : std::uint16_t {
  kUnclassified = 0,

  // A parameter refused before anything is computed.
  kNoParameters = 100,               // "No Parameters specified"
  kNoModel = 101,                    // "No Model specified"
  kParametersZero = 102,             // "Interpolation Parameters are zero"
  kSchemeNotValid = 103,             // "Interpolation Scheme not valid"
  kOrderNotValid = 104,              // "Order of Kriging not valid"
  kScalingNotValid = 105,            // "Scaling of Guesses not valid"
  kDegreeNotValid = 106,             // "Degree of Trendsurface not valid"
  kParameterNotValid = 107,          // "Parameter NAME not valid, must be RANGE : VALUE"
  kTooManyNeighbours = 108,          // more nearest points than the arrays or the data hold
  kTooFewPoints = 109,               // too few data points for the method or the degree
  kLagLimit = 110,                   // "Maximum number of lags is N"
  kMoreUnknownsThanFunctions = 111,  // " MORE UNKNOWNS THAN FUNCTIONS " (fewer classes than 3)

  // Input data.
  kCannotOpenInput = 200,  // "Cannot open input file : NAME"
  kEndOfFile = 201,        // "End of File reached in input file : NAME..."
  kDataFormat = 202,       // "Data format error in input file : NAME..."
  kNoDataPoints = 203,     // "No Data Points in input file : NAME", or none given
  kTooManyPoints = 204,    // " Maximum of N points exceeded "
  kValueOutOfRange = 205,  // "Value out of range (magnitude above 1E+100) at ..."
  kNoLogarithm = 206,      // a value or guess <= 0 under the log transform
  kInputMismatch = 207,    // arrays of one input that differ in length
  kMissingGuess = 208,     // a method that needs guesses was given none

  // Result files.
  kCannotOpenOutput = 300,   // "Cannot open Output files", "Cannot create output file : NAME"
  kCannotWriteOutput = 301,  // "Cannot write Output files", "Cannot write output file : NAME"

  // What the data allow.
  kDuplicatePoints = 400,       // " Duplicate points : i,j"
  kEmptySemivariogram = 401,    // no pair of points fell in any lag class
  kTooFewDistinctPoints = 402,  // fewer than two distinct points: no pair at all
  kValuesEqual = 403,           // trend surface of values that are all equal
  kTrendSingular = 404,         // the points do not determine the trend surface
  kLinearScaling = 405,         // linear scaling of guesses that are all equal
  kFirstClassTooSmall = 406,    // k_Rho: the first class distance cannot be a unit

  // How a fit ended.
  kNoImprovement = 500,      // " NO FUNCTION IMPROVEMENT POSSIBLE "
  kModelNotEvaluable = 501,  // " MODEL CANNOT BE EVALUATED FOR THESE PARAMETERS "
  kLambdaLarge = 502,        // " CONVERGENCE Complete, LAMBDA still LARGE "
  kChi2NotFinite = 503,      // "CHI2 not finite, written as asterisks"

  // Estimates.
  kSingularPoints = 600,  // "Kriging system singular at N points..."
  kNonFinite = 601,       // "Estimate not finite at N points..."
  kSolverFailure = 602,   // the dense solver: " Error in SUBROUTINE AIRM : 1" and its companions
  kAllocation = 603,      // " Allocation Error, not enough memory"
};

}  // namespace mornax::api
