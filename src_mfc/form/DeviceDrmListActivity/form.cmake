# The device list talks to the discovery client, reads the core's link-local address, takes its row
# texts from the library it shares with the command-line scanner and opens web pages through the
# window layer's URL handler.
target_link_libraries(orvan_form PUBLIC liborvaniot_drm_client liborvaniot_core_cms orvan_device_rows orvan_wnd)
