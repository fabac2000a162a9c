# Signing, when a certificate is given in the environment (packaging/sign names the variables).
# What signs is read at every build into a stamp that changes only with it, so that the permission
# helper embedded in the launchers is signed again exactly when the certificate changed.
set(MALLOWBROOK_SIGN ${PROJECT_SOURCE_DIR}/packaging/sign)
set(MALLOWBROOK_SIGNING_IDENTITY ${CMAKE_BINARY_DIR}/signing/identity)
add_custom_target(signing_identity
  COMMAND ${MALLOWBROOK_SIGN} --identity ${MALLOWBROOK_SIGNING_IDENTITY}
  BYPRODUCTS ${MALLOWBROOK_SIGNING_IDENTITY}
  VERBATIM)
