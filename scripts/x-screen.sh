# Sourced by the run command and the end-to-end scripts: the X screen as the user sees it.
#   vexlor_xscreen     writes the whole screen of $DISPLAY to standard output as a MIFF image, for
#                      ImageMagick ("vexlor_xscreen | convert miff:- ...")
# The screen is read with one GetImage request on the root window, which gives what the server shows.
# xwd -root is no use here: when top-level windows have colormaps of their own (Wine makes one for each
# process's windows), it reads the screen window by window, and a window that lies wholly over another
# window of the same colormap comes out black, though the screen shows it.
vexlor_xscreen() { import -silent -window root miff:- 2>/dev/null; }
