      SUBROUTINE DROT(N,DX,INCX,DY,INCY,C,S)
      include 'VexnorScript.h'
      DOUBLE PRECISION C,S
      INTEGER INCX,INCY,N
      DOUBLE PRECISION DX(*),DY(*)
      DOUBLE PRECISION DTEMP
      INTEGER I,IX,IY
!Vexnor$ Vexnor_ENDTUNESIZE = 400
!Vexnor$ Vexnor_SAMPDIST = 100
      IF (N.LE.0) RETURN
      IF (INCX.EQ.1 .AND. INCY.EQ.1) THEN
!Vexnor$ install unroll (I) region start
!Vexnor$ name rot1
!Vexnor$ varied (I) from 1 to 3
         DO I = 1,N
            DTEMP = C*DX(I) + S*DY(I)
            DY(I) = C*DY(I) - S*DX(I)
            DX(I) = DTEMP
         END DO
!Vexnor$ install unroll (I) region end
      ELSE
         IX = 1
         IY = 1
         IF (INCX.LT.0) IX = (-N+1)*INCX + 1
         IF (INCY.LT.0) IY = (-N+1)*INCY + 1
!Vexnor$ static select region start
!Vexnor$ name rot2
!Vexnor$ debug (pp, bp)
!Vexnor$ pripro sub region start
         IX = IX + 0
!Vexnor$ pripro sub region end
!Vexnor$ select sub region start
!Vexnor$ varied (m) from 1 to 2
         DO I = 1,N
            DTEMP = C*DX(IX) + S*DY(IY)
            DY(IY) = C*DY(IY) - S*DX(IX)
            DX(IX) = DTEMP
            IX = IX + INCX
            IY = IY + INCY
         END DO
!Vexnor$ select sub region end
!Vexnor$ select sub region start
!Vexnor$ according estimated 2.0d0*N
         DO I = 1,N
            DTEMP = C*DX(IX) + S*DY(IY)
            DY(IY) = C*DY(IY) - S*DX(IX)
            DX(IX) = DTEMP
            IX = IX + INCX
            IY = IY + INCY
         END DO
!Vexnor$ select sub region end
!Vexnor$ postpro sub region start
         IY = IY + 0
!Vexnor$ postpro sub region end
!Vexnor$ static select region end
      END IF
      RETURN
      END
      SUBROUTINE DSCAL2(N,DA,DX)
      INTEGER N, I
      DOUBLE PRECISION DA, DX(*)
!Vexnor$ Vexnor_DynPefThis (sc)
!Vexnor$ dynamic region start
!Vexnor$ name sc
!Vexnor$ Number 1
!Vexnor$ varied (k) from 1 to 2
      DO I = 1,N
         DX(I) = DA*DX(I)
      END DO
!Vexnor$ dynamic region end
      END
