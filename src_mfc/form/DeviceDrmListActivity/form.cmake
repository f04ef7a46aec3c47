# The device list talks to the discovery client, reads the core's link-local address and takes its
# row texts from the library it shares with the command-line scanner (web pages open through its
# window, like every window operation).
target_link_libraries(orvan_form PUBLIC liborvaniot_drm_client liborvaniot_core_cms orvan_device_rows)
