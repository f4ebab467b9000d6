c     Least-squares support routines of the generated tuning code: the
c     fit of the cost over the case number at one problem size, the fit
c     of each case's cost over the problem sizes, and the choice of the
c     case for a problem size from those fits.  Fits are least-squares
c     polynomials computed by Givens QR on abscissae centred and scaled
c     into [-1, 1]; the order drops to what the samples determine.

c     ------------------------------------------------------------------
c     Fits the cost over the case number at one problem size and
c     estimates every case's cost from the fit.
c       x, y       in   n_lsm samples: case number and time
c       n_lsm      in   number of samples
c       m_lsm      in   requested polynomial order
c       a_lsm      out  coefficients of the fit over the case number,
c                       a_lsm(i) multiplying x**(m_lsm-i)
c       iloop_n    in   problem size of the samples
c       nparm      in   number of cases
c       isamp_indx in   index of this problem size, from 0
c       xDim, yEst out  row isamp_indx: the problem size and the
c                       estimated cost of every case (column = case-1)
c       ibest      out  the case of least estimated cost, 1 to nparm
c     ------------------------------------------------------------------
      subroutine VexnorLSM_Est_ParamFxDim(x, y, n_lsm, m_lsm, a_lsm,
     &     iloop_n, nparm, isamp_indx, xDim, yEst, ibest)
      implicit none
      include 'VexnorScript.h'
      integer n_lsm, m_lsm, iloop_n, nparm, isamp_indx, ibest
      real*8 x(0:VexnorLSM_MAX_N-1)
      real*8 y(0:VexnorLSM_MAX_N-1)
      real*8 a_lsm(0:VexnorLSM_MAX_M)
      real*8 xDim(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 yEst(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 b(0:VexnorLSM_MAX_M), xc, xh, v, vbest
      real*8 VexnorLSM_Eval
      integer npts, ncase, mfit, ic
      logical keep

      npts = max(0, min(n_lsm, VexnorLSM_MAX_N))
      ncase = max(0, min(nparm, VexnorLSM_MAX_NPARM))
      keep = isamp_indx .ge. 0 .and. isamp_indx .lt. VexnorLSM_MAX_N
      call VexnorLSM_Fit(x, y, npts, m_lsm, xc, xh, b, mfit)
      call VexnorLSM_Mono(b, mfit, xc, xh, m_lsm, a_lsm)

      ibest = 0
      vbest = 0.0d0
      do ic = 1, ncase
        v = VexnorLSM_Eval(b, mfit, xc, xh, dble(ic))
        if (keep) then
          xDim(isamp_indx, ic-1) = dble(iloop_n)
          yEst(isamp_indx, ic-1) = v
        endif
        call VexnorLSM_Keep(v, ic, vbest, ibest)
      enddo
      if (ibest .eq. 0) ibest = 1
      return
      end

c     ------------------------------------------------------------------
c     Fits every case's estimated cost over the problem sizes.
c       xDim, yEst in   rows 0 to nsamp-1: problem size and estimated
c                       cost, one column per case (column = case-1)
c       n_lsm      in   not used: the fits take nsamp points each
c       m_lsm      in   requested polynomial order
c       aa_lsm     out  column case-1: the m_lsm+1 coefficients of the
c                       fit, aa_lsm(i, case-1) multiplying n**(m_lsm-i)
c       nparm      in   number of cases
c       nsamp      in   number of problem sizes
c     ------------------------------------------------------------------
      subroutine VexnorLSM_lsm_DimEst(xDim, yEst, n_lsm, m_lsm, aa_lsm,
     &     nparm, nsamp)
      implicit none
      include 'VexnorScript.h'
      integer n_lsm, m_lsm, nparm, nsamp
      real*8 xDim(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 yEst(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 aa_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)
      real*8 b(0:VexnorLSM_MAX_M), xc, xh
      integer npts, ncase, mfit, ic

      npts = max(0, min(nsamp, VexnorLSM_MAX_N))
      ncase = max(0, min(nparm, VexnorLSM_MAX_NPARM))
      do ic = 0, ncase-1
        call VexnorLSM_Fit(xDim(0, ic), yEst(0, ic), npts, m_lsm,
     &       xc, xh, b, mfit)
        call VexnorLSM_Mono(b, mfit, xc, xh, m_lsm, aa_lsm(0, ic))
      enddo
      return
      end

c     ------------------------------------------------------------------
c     Chooses the case for problem size n from the per-case fits.
c       n          in   problem size
c       nparm      in   number of cases
c       m_lsm      in   polynomial order of the fits
c       a_lsm      in   column case-1: coefficients as written by
c                       VexnorLSM_lsm_DimEst, highest power first
c       isw        out  the case of least estimated cost, 1 to nparm
c                       (1 when no estimate is a finite number)
c     ------------------------------------------------------------------
      subroutine VexnorLSM_Est_Param(n, nparm, m_lsm, a_lsm, isw)
      implicit none
      include 'VexnorScript.h'
      integer n, nparm, m_lsm, isw
      real*8 a_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)
      real*8 v, vbest, xn
      integer ncase, m, ic, k

c     Only process 0 may have read nparm and m_lsm: the other processes
c     must still stay inside the array.
      ncase = max(0, min(nparm, VexnorLSM_MAX_NPARM))
      m = max(0, min(m_lsm, VexnorLSM_MAX_M))
      xn = dble(n)
      isw = 0
      vbest = 0.0d0
      do ic = 1, ncase
        v = a_lsm(0, ic-1)
        do k = 1, m
          v = v*xn + a_lsm(k, ic-1)
        enddo
        call VexnorLSM_Keep(v, ic, vbest, isw)
      enddo
      if (isw .eq. 0) isw = 1
      return
      end

c     ------------------------------------------------------------------
c     Least-squares polynomial through the points (x(i), y(i)), i = 0
c     to npts-1, in t = (x - xc)/xh: y ~ b(0) + b(1)*t + ... +
c     b(mfit)*t**mfit.  Points with a non-finite value are left out.
c     The order mfit is at most m, below the number of points, and low
c     enough that no column of the QR factor is (nearly) a combination
c     of the ones before it, which repeated abscissae would make it.
c     Without points the fit is zero.
c     ------------------------------------------------------------------
      subroutine VexnorLSM_Fit(x, y, npts, m, xc, xh, b, mfit)
      implicit none
      include 'VexnorScript.h'
      integer npts, m, mfit
      real*8 x(0:*), y(0:*), xc, xh
      real*8 b(0:VexnorLSM_MAX_M)
      real*8 r(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_M)
      real*8 qty(0:VexnorLSM_MAX_M), cn(0:VexnorLSM_MAX_M)
      real*8 row(0:VexnorLSM_MAX_M)
      real*8 xmin, xmax, t, rhs, rho, g, cs, sn, tmp, tol
      integer nv, mtop, i, j, k
      logical VexnorLSM_Finite
c     A column whose part independent of the ones before it is below
c     this fraction of its norm does not enter the fit.
      parameter (tol = 1.0d-10)

      do k = 0, VexnorLSM_MAX_M
        b(k) = 0.0d0
        qty(k) = 0.0d0
        cn(k) = 0.0d0
        do j = 0, VexnorLSM_MAX_M
          r(k, j) = 0.0d0
        enddo
      enddo
      mfit = 0
      xc = 0.0d0
      xh = 1.0d0

      nv = 0
      xmin = 0.0d0
      xmax = 0.0d0
      do i = 0, npts-1
        if (VexnorLSM_Finite(x(i)) .and. VexnorLSM_Finite(y(i))) then
          if (nv .eq. 0) then
            xmin = x(i)
            xmax = x(i)
          endif
          xmin = min(xmin, x(i))
          xmax = max(xmax, x(i))
          nv = nv + 1
        endif
      enddo
      if (nv .eq. 0) return

      mtop = max(0, min(m, nv-1, VexnorLSM_MAX_M))
      xc = 0.5d0*xmin + 0.5d0*xmax
      xh = 0.5d0*xmax - 0.5d0*xmin
      if (.not. (xh .gt. 0.0d0)) then
        xh = 1.0d0
        mtop = 0
      endif

c     Givens QR, one row of the scaled Vandermonde matrix at a time.
      do i = 0, npts-1
        if (VexnorLSM_Finite(x(i)) .and. VexnorLSM_Finite(y(i))) then
          t = max(-1.0d0, min(1.0d0, (x(i) - xc)/xh))
          row(0) = 1.0d0
          do k = 1, mtop
            row(k) = row(k-1)*t
          enddo
          do k = 0, mtop
            cn(k) = cn(k) + row(k)*row(k)
          enddo
          rhs = y(i)
          do k = 0, mtop
            if (row(k) .ne. 0.0d0) then
              g = max(abs(r(k, k)), abs(row(k)))
              rho = g*sqrt((r(k, k)/g)**2 + (row(k)/g)**2)
              cs = r(k, k)/rho
              sn = row(k)/rho
              r(k, k) = rho
              row(k) = 0.0d0
              do j = k+1, mtop
                tmp = cs*r(k, j) + sn*row(j)
                row(j) = cs*row(j) - sn*r(k, j)
                r(k, j) = tmp
              enddo
              tmp = cs*qty(k) + sn*rhs
              rhs = cs*rhs - sn*qty(k)
              qty(k) = tmp
            endif
          enddo
        endif
      enddo

      mfit = -1
      do k = 0, mtop
        if (mfit .eq. k-1 .and. abs(r(k, k)) .gt. tol*sqrt(cn(k)))
     &       mfit = k
      enddo
      mfit = max(mfit, 0)
      if (.not. (abs(r(0, 0)) .gt. 0.0d0)) return

      do k = mfit, 0, -1
        tmp = qty(k)
        do j = k+1, mfit
          tmp = tmp - r(k, j)*b(j)
        enddo
        b(k) = tmp/r(k, k)
      enddo
      return
      end

c     ------------------------------------------------------------------
c     Value at xv of the polynomial b of order mfit in t = (xv - xc)/xh.
c     ------------------------------------------------------------------
      real*8 function VexnorLSM_Eval(b, mfit, xc, xh, xv)
      implicit none
      include 'VexnorScript.h'
      integer mfit
      real*8 b(0:VexnorLSM_MAX_M), xc, xh, xv
      real*8 t, v
      integer k

      t = (xv - xc)/xh
      v = b(mfit)
      do k = mfit-1, 0, -1
        v = v*t + b(k)
      enddo
      VexnorLSM_Eval = v
      return
      end

c     ------------------------------------------------------------------
c     Writes the polynomial b of order mfit in t = (x - xc)/xh as the
c     m+1 coefficients of powers of x in a, highest power first
c     (a(i) multiplies x**(m-i)); powers above mfit get zero.
c     ------------------------------------------------------------------
      subroutine VexnorLSM_Mono(b, mfit, xc, xh, m, a)
      implicit none
      include 'VexnorScript.h'
      integer mfit, m
      real*8 b(0:VexnorLSM_MAX_M), xc, xh
      real*8 a(0:VexnorLSM_MAX_M)
      real*8 q(0:VexnorLSM_MAX_M + 1)
      integer mout, k, j, ideg

c     q holds the ascending coefficients in x of the Horner partial
c     sum b(k) + t*(b(k+1) + t*(...)).
      do j = 0, VexnorLSM_MAX_M + 1
        q(j) = 0.0d0
      enddo
      q(0) = b(mfit)
      ideg = 0
      do k = mfit-1, 0, -1
        do j = ideg+1, 1, -1
          q(j) = (q(j-1) - xc*q(j))/xh
        enddo
        q(0) = -xc*q(0)/xh + b(k)
        ideg = ideg + 1
      enddo

      mout = max(0, min(m, VexnorLSM_MAX_M))
      do j = 0, mout
        if (mout - j .le. mfit) then
          a(j) = q(mout - j)
        else
          a(j) = 0.0d0
        endif
      enddo
      return
      end

c     ------------------------------------------------------------------
c     Keeps case ic as ibest when its cost v is a finite number below
c     vbest, or the first finite one (ibest 0): the lowest case wins a
c     tie.
c     ------------------------------------------------------------------
      subroutine VexnorLSM_Keep(v, ic, vbest, ibest)
      implicit none
      real*8 v, vbest
      integer ic, ibest
      logical VexnorLSM_Finite

      if (VexnorLSM_Finite(v)) then
        if (ibest .eq. 0 .or. v .lt. vbest) then
          ibest = ic
          vbest = v
        endif
      endif
      return
      end

c     ------------------------------------------------------------------
c     True when v is neither NaN nor infinite.
c     ------------------------------------------------------------------
      logical function VexnorLSM_Finite(v)
      implicit none
      real*8 v

      VexnorLSM_Finite = v .eq. v .and. abs(v) .le. huge(v)
      return
      end
