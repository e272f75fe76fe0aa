# Sourced, with WINEPREFIX naming a folder that does not exist yet: exports how
# the Windows build runs under Wine (64-bit, without Mono, Gecko or sound
# drivers: the chime falls back to the beep; Wine's own messages off), makes
# the prefix (wineboot under Xvfb) and puts the IPA fonts into its
# windows\Fonts, linked to the captions' font: Wine has no Japanese fonts of its own.
export WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv=" WINEDEBUG=-all
xvfb-run -a wineboot -i >"$WINEPREFIX.wineboot.log" 2>&1 && wineserver -w \
    && cp /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/opentype/ipafont-mincho/*.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" \
    && wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Tahoma /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
