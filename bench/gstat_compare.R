# The cases of mornax_gstat_cases kriged by gstat with the same models (every
# point a neighbour), and the largest relative differences of the estimates
# and standard errors. The anisotropy in gstat's terms: anis = c(90 - angle,
# ratio), the principal direction clockwise from north.
suppressMessages({
  library(sp)
  library(gstat)
})
args <- commandArgs(trailingOnly = TRUE)
folder <- args[1]
data <- read.csv(file.path(folder, "data.csv"))
nodes <- read.csv(file.path(folder, "nodes.csv"))
coordinates(data) <- ~x + y
coordinates(nodes) <- ~x + y

north <- function(angle) (90 - angle) %% 180
cases <- list(
  sph_aniso = list(formula = z ~ 1,
                   model = vgm(10, "Sph", 400, 2, anis = c(north(30), 0.4))),
  exp_aniso_drift = list(formula = z ~ x + y,
                         model = vgm(9.5, "Exp", 150, 0.5, anis = c(north(120), 0.25))),
  nested = list(formula = z ~ 1,
                model = vgm(4, "Exp", 120, anis = c(north(100), 0.3),
                            add.to = vgm(6, "Sph", 500, 1, anis = c(north(30), 0.5)))),
  nested_drift = list(formula = z ~ x + y + I(x^2) + I(x * y) + I(y^2),
                      model = vgm(6, "Sph", 900, anis = c(north(160), 0.5),
                                  add.to = vgm(4.8, "Gau", 200, 0.2, anis = c(north(75), 0.6)))))
worst <- c(estimate = 0, se = 0)
for (name in names(cases)) {
  k <- cases[[name]]
  g <- krige(k$formula, data, nodes, model = k$model, debug.level = 0)
  m <- read.csv(file.path(folder, paste0("mornax_", name, ".csv")))
  de <- max(abs(m$estimate - g$var1.pred) / abs(g$var1.pred))
  ds <- max(abs(m$se - sqrt(g$var1.var)) / sqrt(g$var1.var))
  cat(sprintf("%-16s estimates %.3e   standard errors %.3e\n", name, de, ds))
  worst <- pmax(worst, c(de, ds))
}
cat(sprintf("largest relative difference: estimates %.3e, standard errors %.3e\n",
            worst[1], worst[2]))
